SELECT Distinct t3.FCurrencyID FROM t_CustEntry u1 INNER JOIN t_Cust u2 ON u1.FCustID=u2.FCustID AND u1.FItemID=u2.FItemID
 INNER JOIN t_Currency t3 ON t3.FCurrencyID=u1.FCyID
 INNER JOIN t_Currency u3 ON u3.FCurrencyID=u2.FCurrencyID
INNER JOIN t_ItemRight t10 ON t3.FCurrencyID=t10.FItemID
INNER JOIN t_ItemRight t11 ON u3.FCurrencyID=t11.FItemID
 WHERE 1=1
AND t10.FTypeID=120
AND (t10.FuserID=16395 OR t10.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=16395 ))
AND t11.FTypeID=120
AND (t11.FuserID=16395 OR t11.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=16395 ))
