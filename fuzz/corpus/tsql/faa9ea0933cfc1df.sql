SELECT Distinct t1.FNumber,t1.FCurrencyID,t1.FName 
 FROM t_Currency  t1  INNER JOIN t_ItemRight t6 ON t1.FCurrencyID=t6.FItemID 
 WHERE FCurrencyID>0 AND t1.FCurrencyID=2
 AND t1.FDeleted <> 1 AND t6.FTypeID=120
AND (t6.FuserID=16396 OR t6.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=16396 ))
