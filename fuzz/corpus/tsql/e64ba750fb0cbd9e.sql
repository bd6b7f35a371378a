SELECT Distinct t1.FCurrencyID FROM t_Currency  t1  INNER JOIN t_ItemRight t6 ON t1.FCurrencyID=t6.FItemID 
 WHERE FCurrencyID>0 AND t6.FTypeID=120
AND (t6.FuserID=16395 OR t6.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=16395 ))
